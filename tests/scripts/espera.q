* ESPERA pausa em segundos ou milissegundos; com um título espera a janela, e sem ela CHECA dá 1.
espera ms 250
checa c
escreve "pausa: " c
espera 0 "Bloco de notas"
checa c
escreve "sem olhar: " c
espera 1 "Bloco de notas"
checa c
escreve "um segundo: " c
espera MS 0
checa c
escreve "pausa: " c
