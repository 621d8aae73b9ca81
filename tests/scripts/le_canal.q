* LE #n lê uma linha do canal; no fim do arquivo a variável fica vazia e CHECA dá 1. OBSERVA #n dá 0 para arquivos.
abre #2 "linhas.txt" &
escreve #2 "primeira linha"
escreve #2 "segunda"
fecha #2
abre #3 "linhas.txt"
observa #3 o
escreve "dados esperando: " o
le #3 a
checa c
escreve a " (" c ")"
le #3 b resto ignorado
escreve b
le #3 d
checa c
escreve "[" d "] (" c ")"
fecha #3
le #3 d
