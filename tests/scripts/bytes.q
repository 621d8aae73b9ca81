* Um arquivo binário montado byte a byte: bytes de um texto e pedaços de outro arquivo.
abre #1 "fonte.txt" &
escreve #1 "0123456789" &
fecha #1
criabin "saida.bin"
seja r chr "#13"
seja n chr "#10"
escrevebyte "["
lebyte "fonte.txt" 0 3
lebyte "fonte.txt" 5 5
lebyte "fonte.txt" 7 8
escrevebyte "]"
escrevebyte r
escrevebyte n
gravabytes
escrevebyte "esquecido"
limpabytes
escrevebyte "fim"
gravabytes
fechabin
tamarq "saida.bin" t
escreve "tamanho " t
abre #1 "saida.bin"
le #1 l
escreve l
le #1 l
escreve l
fecha #1
* O nome já existe: CRIABIN falha e o script termina.
criabin "saida.bin"
escreve "nunca"
