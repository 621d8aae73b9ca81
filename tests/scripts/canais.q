* Um arquivo novo pelo canal 2, como o tradutor faz: apaga, abre com & e escreve.
remove "saída.txt" &
abre #2 "saída.txt" &
escreve #2 "Tradução da página"
escreve #2 "sem fim de linha, " &
escreve #2"e o resto"
seja $vazia ""
escreve #2 $vazia
escreve #2 "última"
fecha #2
* Reabrir com & acrescenta depois da última linha.
abre #2 "saída.txt" &
escreve #2 "acrescentada"
fecha #2
* Ler linha a linha até a situação deixar de ser 0; a linha vazia não para o laço.
abre #3 "saída.txt"
@LER
le #3 l
checa c
escreve c ": [" l "]"
se c = "0" desvia @LER
* Depois do fim continua no fim.
le #3 l
checa c
escreve "de novo " c ": [" l "]"
fecha #3
* Fechar um canal nunca aberto não é erro.
fecha #4
escreve "fim"
checa c
escreve "situação " c
